; a label alone on its line must begin in column 1: error 45, which stops pass 1
        DEVICE  QV18AC
        FREQ    4_000_000
  alone
        END
