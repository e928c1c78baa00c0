; RADIX takes DEC, D, BIN, B, OCT, O, HEX or H: TEN is error 25, which stops pass 1
        DEVICE  QV18AC
        FREQ    4_000_000
        RADIX   = TEN
        END
