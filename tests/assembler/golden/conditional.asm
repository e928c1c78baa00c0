; IF -1 is false (values below 1 are): NOP is skipped, CLC = 403 is assembled at 0
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        IF      -1
        NOP
        ELSE
        CLC
        ENDIF
        END
