; lines of an INCLUDE file carry the marker "+", and their map records its line numbers and file 1
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        INCLUDE "include_sub.inc"
main    MOV     W,#LIMIT
        CALL    twice
        END
