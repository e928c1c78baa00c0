; CALL reaches only the lower half of a page: helper at $100 has bit 8 set, error 44 with 256
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     $100
helper  RET
        ORG     0
        CALL    helper
        END
