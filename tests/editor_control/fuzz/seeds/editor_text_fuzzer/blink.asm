; blink.asm: an LED on RA.2 goes on and off, with a delay of 200 x 250 DJNZ passes
; FUSE = 0FFB & 0FDF (OSCXT2) = 0FDB; SETB LED = 500|(2*32+5); RESET start = A00|9 at 7FF
        DEVICE  QV18AC, OSCXT2
        FREQ    4_000_000
        IRC_CAL irc_4mhz
LED     EQU     RA.2
COUNT1  EQU     $08
COUNT2  EQU     $09
        ORG     0
delay   MOV     COUNT1,#200
outer   MOV     COUNT2,#250
inner   DJNZ    COUNT2,inner
        DJNZ    COUNT1,outer
        RET
start   MOV     !RA,#%11111011
loop    SETB    LED
        CALL    delay
        CLRB    LED
        CALL    delay
        JMP     loop
        RESET   start
        END
