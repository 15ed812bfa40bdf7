# A whole job through the compiled analysis, against the tables the program
# writes for it (fixtures/WHEAT-tables: `locseq run WHEAT --tables`, made by
# make r-package).

job_text <- function(ext) {
  path <- system.file("extdata", paste0("WHEAT.", ext), package = "locseq")
  readChar(path, file.size(path), useBytes = TRUE)
}
fixture <- function(name) test_path("fixtures", "WHEAT-tables", name)
run_wheat <- function(cls = job_text("CLS"), seq = job_text("SEQ"), ...) {
  locseq:::run_job_texts(cls, job_text("NAQ"), seq, job = "WHEAT", ...)
}
# .SEQ with line `n` replaced.
seq_with <- function(n, line) {
  lines <- strsplit(job_text("SEQ"), "\n", fixed = TRUE)[[1]]
  lines[n] <- line
  paste0(paste(lines, collapse = "\n"), "\n")
}

test_that("the example job gives the tables the program writes", {
  tables <- run_wheat()
  csv <- attr(tables, "csv")
  expect_named(csv, c("steps", "fit_by_year", "groups", "distances"))
  for (name in names(csv)) {
    path <- fixture(paste0(name, ".csv"))
    expect_identical(csv[[name]], readChar(path, file.size(path), useBytes = TRUE))
  }
  # A name stays text where read.csv would make "2019" a number.
  expected <- utils::read.csv(fixture("steps.csv"),
                              colClasses = c(sequence_year_name = "character"))
  expect_equal(tables$steps, expected)
  expect_type(tables$steps$step, "integer")
  expect_type(tables$steps$rsq_classified, "double")
  expect_identical(is.na(tables$steps$stability_ari), c(TRUE, rep(FALSE, nrow(expected) - 1)))
})

test_that("bad input and bad arguments are R errors with the program's message", {
  expect_error(run_wheat(seq = seq_with(3, "1 1 x 4.0")), "^WHEAT\\.SEQ:3: ")
  expect_error(run_wheat(cls = ""), "^WHEAT\\.CLS")
  expect_error(run_wheat(groups = 21), "^groups: ")
  expect_error(run_wheat(groups = 1.5), "'groups' must be a whole number")
  expect_warning(run_wheat(seq = seq_with(3, "1 1 3 4.0 5")), "^WHEAT\\.SEQ:3: warning: ")
})
