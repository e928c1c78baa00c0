; NOEXPAND hides the lines of an expansion (13-15), EXPAND lists them again (18-19)
        DEVICE  QV18AC
        FREQ    4_000_000
two     MACRO
        NOP
        NOP
        ENDM
        two
        NOEXPAND
        two
        EXPAND
        two
        END
