; INCLUDE nesting: "\" separates folders and names match in any case
        DW 1
        INCLUDE "Inc\Level1.INC"
        DW 4
        INCLUDE "inc/level2.inc"
        END
