; ORG back over a used word: CLC at 0 overwrites NOP (000, not the fill 0FFF): error 30
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        NOP
        ORG     0
        CLC
        END
