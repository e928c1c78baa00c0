; start and START are one name: error 2 stops pass 1, so no end-of-pass warnings (65, 66, 71)
start   NOP
START   NOP
        JMP     missing
        END
