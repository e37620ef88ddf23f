// implemented by the roster work
