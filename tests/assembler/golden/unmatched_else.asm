; ELSE without IF: error 19 in both passes (FREQ, DEVICE and /X 1 leave no end-of-pass warning)
        DEVICE  QV18AC
        FREQ    4_000_000
        ELSE
        END
