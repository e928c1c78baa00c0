; REPT: the iteration number, nesting, empty and over-long counts, REPT inside a macro
        REPT 3
        DW %
        ENDR
        REPT 0
        DW 100
        ENDR
        REPT 2
        REPT 2
        DW %
        ENDR
        DW 10 + %
        ENDR
row     MACRO
        REPT 3
        DW \%
        ENDR
        ENDM
        row 7, 8, 9
twice   MACRO n
        LOCAL here
here    DW n
        ENDM
        REPT 2
        twice %
        ENDR
        REPT 300
        DW 200
        ENDR
        DW 0
        END
