; a jump to a name that is never defined: silent in pass 1, error 3 in pass 2
        DEVICE  QV18AC
        FREQ    4_000_000
        JMP     nowhere
        END
