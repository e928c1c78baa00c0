; RADIX = HEX: 1B is shorter than 3 characters and stays hexadecimal (warning 33); 101B is binary 5
        DEVICE  QV18AC
        FREQ    4_000_000
        RADIX   = HEX
short   EQU     1B
long    EQU     101B
        END
