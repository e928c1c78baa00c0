; CALL reaches only the lower half of a page: sub at $100 has bit 8 set, error 44 with 256
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     $100
sub     RET
        ORG     0
        CALL    sub
        END
