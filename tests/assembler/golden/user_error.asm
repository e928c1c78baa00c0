; ERROR: P1W is a warning in pass 1 only; without the word it is an error in pass 2 (P2E)
        DEVICE  QV18AC
        FREQ    4_000_000
        ERROR   P1W "first pass"
        ERROR   "second pass"
        END
