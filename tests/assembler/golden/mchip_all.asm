; MCHIP syntax: BTFSS count,3 = 700|3*32|0C; ADDWF total,0 = 1C0|0D; DECFSZ count,1 = 2C0|020|0C
        DEVICE  QV18AC
        FREQ    4_000_000
count   EQU     $0C
total   EQU     $0D
        ORG     0
        MOVLW   $FE
        TRIS    6
again   CLRWDT
        BTFSS   count,3
        ADDWF   total,0
        DECFSZ  count,1
        GOTO    again
        RETURN
        END
