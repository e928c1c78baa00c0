; with /C KESTRIAN, MOVLW is no mnemonic but a name: a name followed by a number is error 1
        DEVICE  QV18AC
        FREQ    4_000_000
        MOVLW   $FE
        END
