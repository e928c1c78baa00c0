; LIST N=8 under /L PAGE: a new page when the page's line count reaches 8
        LIST    N=8
        TITLE   "Paged"
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        SLEEP
        SLEEP
        SLEEP
        END
