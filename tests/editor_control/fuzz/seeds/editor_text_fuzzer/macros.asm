; Macro expansion: parameters, LOCAL names, local labels, argument counting, EXITM
pair    MACRO first, second
        LOCAL again
again   DW first, second
:next   JNZ again
        DW :next
        ENDM

any     MACRO
        DW \0
        DW \1
        ENDM

early   MACRO
        DW 1
        EXITM
        DW 2
        ENDM

start   pair 1, 2
        pair 3, 4
        any 7, 8, 9
        any {5,6}
        any 'a,b', x
        any ?(2+3)
        early
        DW 99
        END
