; Two watches, a BREAK and a RESET on a 2,048-word device.
; FUSE = 0FFB & 0FDF (OSCXT2) = 0FDB; FUSEX = 0BFF; ID "AB" = 0FF4 0FF1 0FF4 0FF2
        DEVICE  QV18AC, OSCXT2
        ID      "AB"
        FREQ    4_000_000
        IRC_CAL irc_fast
flags   EQU     $08
count   EQU     $09
        WATCH   flags.3, 1, UBIN
        WATCH   count, 8, UDEC
        ORG     0
Main    CLR     count           ; 060|09 = 069
loop    INC     count           ; 2A0|09 = 2A9
        BREAK                   ; at 2
        SETB    flags.3         ; 500|(3*32+8) = 568
        JMP     loop            ; A00|1 = A01
        RESET   Main            ; A00|0 at 7FF
        END
