; /E NOHAU: the error file is cmperr.log, with "#" in place of the first "(" and ")"
        DEVICE  QV18AC
        FREQ    4_000_000
        JMP     nowhere
        END
