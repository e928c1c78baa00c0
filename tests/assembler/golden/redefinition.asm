; start and START are one name: error 2 stops pass 1, so neither error 3 nor 65, 66, 71 follow in pass 1
start   NOP
START   NOP
limit   EQU     missing
        END
