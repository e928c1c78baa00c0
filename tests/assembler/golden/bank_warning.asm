; BANK $20 = 018|1 selects bank 1: INC $3F (bank 1) = 2A0|1F; INC $45 (bank 2) = 2A0|05 with warning 48
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        BANK    $20
        INC     $3F
        INC     $45
        END
