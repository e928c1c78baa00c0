; RADIX = HEX: 1B and 1D are shorter than 3 characters and stay hexadecimal (warning 33); 101B is 5, 12D is 12
        DEVICE  QV18AC
        FREQ    4_000_000
        RADIX   = HEX
short   EQU     1B
long    EQU     101B
day     EQU     1D
dozen   EQU     12D
        END
