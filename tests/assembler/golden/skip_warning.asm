; SC skips one word: the two-word MOV count,#5 (C05 028) after it draws warning 73; INC after SZ does not
        DEVICE  QV18AC
        FREQ    4_000_000
count   EQU     $08
        ORG     0
        SC
        MOV     count,#5
        SZ
        INC     count
        END
