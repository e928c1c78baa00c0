; PAGE far = 010|1 selects page 1 ($200-$3FF); JMP near goes to page 0: warning 42
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     $200
far     NOP
        PAGE    far
        JMP     near
        ORG     0
near    NOP
        END
