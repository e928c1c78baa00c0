; the .sym symbols the IDE reads: BREAK at 1, RESET at 3, the watch of ticks (address 0A, length 1)
; FUSE = 0FFB & 0FFD (OSCHS2) = 0FF9; FREQ 20,000,000 = 0131 2D00; CLR ticks = 06A, INC ticks = 2AA
        DEVICE  QV18AC, OSCHS2
        FREQ    20_000_000
        IRC_CAL irc_fast
ticks   EQU     $0A
        WATCH   ticks,1,UHEX
        ORG     0
main    CLR     ticks
        BREAK
        INC     ticks
        JMP     main
        RESET   main
        END
