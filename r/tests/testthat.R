library(testthat)
library(locseq)

test_check("locseq")
