; JMP @far to page 1: PAGE 010|1 first, then JMP A00|(200 AND 1FF), two words
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        JMP     @far
        ORG     $200
far     JMP     far
        END
