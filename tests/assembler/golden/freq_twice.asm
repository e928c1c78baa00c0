; a second FREQ finds __QV_FREQ defined: error 2 with the argument FREQ
        DEVICE  QV18AC
        FREQ    4_000_000
        FREQ    8_000_000
        END
