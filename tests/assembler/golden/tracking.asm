; BANK $20 selects bank 1 and PAGE far page 1 for five code lines, the BANK or PAGE line
; included: INC $45 (bank 2) and JMP lbl (page 0) warn only while that lasts; a label, a MOV
; to FSR (bank only) and a CALL or JMP end it earlier
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        BANK    $20
        INC     $45
lbl     INC     $45
        BANK    $20
        MOV     FSR,W
        INC     $45
        BANK    $20
        CALL    lbl
        INC     $45
        BANK    $20
        NOP
        NOP
        NOP
        INC     $45
        INC     $45
        PAGE    far
lbl2    JMP     lbl
        PAGE    far
        JMP     lbl
        JMP     lbl
        ORG     $200
far     NOP
        END
