; /L NONE: no listing, no map and no cross-reference remain; the object is written
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        NOP
        END
