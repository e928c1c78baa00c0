; EQU wants its names defined already: error 3 in pass 1, and again in pass 2
        DEVICE  QV18AC
        FREQ    4_000_000
limit   EQU     nothing
        END
