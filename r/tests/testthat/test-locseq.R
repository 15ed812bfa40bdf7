# The package against the program: fixtures/wheat-tables holds the tables
# `locseq import wheat.csv wheat && locseq run wheat --tables --sweep 2:8`
# writes, and
# fixtures/wheat.* the job of that import; likewise
# unbalanced-tables for fixtures/unbalanced.csv, a trial with missing cells,
# location-years and a late location (all made by make r-package).

fixture <- function(...) test_path("fixtures", ...)
table_file <- function(job, name) fixture(paste0(job, "-tables"), paste0(name, ".csv"))
# A table as R's reader types it: the types to expect.
read_table <- function(job, name) {
  file <- table_file(job, name)
  names <- intersect(c("sequence_year_name", "year_name"), names(utils::read.csv(file, nrows = 1)))
  table <- utils::read.csv(file, check.names = FALSE,
                           colClasses = stats::setNames(rep("character", length(names)), names))
  # R's reader leaves the program's true and false as text.
  truth <- vapply(table, function(x) is.character(x) && all(x %in% c("true", "false")), TRUE)
  table[truth] <- lapply(table[truth], `==`, "true")
  table
}
# A data frame's values as the program's CSV writes them: the same text
# means the same double (R's own reader is not relied on to read them back
# to the nearest double).
as_texts <- function(frame) {
  frame[] <- lapply(frame, function(x) {
    if (is.double(x)) return(locseq:::number_text_(x))
    text <- if (is.logical(x)) tolower(x) else as.character(x)
    ifelse(is.na(x), "NA", text)
  })
  frame
}
read_texts <- function(job, name) {
  utils::read.csv(table_file(job, name), colClasses = "character", na.strings = character(),
                  check.names = FALSE)
}

cl <- locseq_classify(wheat)
res <- locseq_run(wheat, cl)

test_that("the tables are those the program writes, value for value", {
  unbalanced <- utils::read.csv(fixture("unbalanced.csv"), stringsAsFactors = FALSE)
  expect_message(unbalanced_cl <- locseq_classify(unbalanced), NA)
  expect_match(unbalanced_cl$notes, "the sequence starts at year 3 \\(2013\\)", all = FALSE)
  # The wheat fixture was run with --sweep 2:8, which changes no other table.
  runs <- list(wheat = locseq_run(wheat, cl, sweep = c(8, 2)),
               unbalanced = locseq_run(unbalanced, unbalanced_cl))
  for (job in names(runs)) {
    tables <- c("steps", "fit_by_year", "groups", "distances", "membership",
                if (job == "wheat") "sweep")
    for (name in tables) {
      actual <- runs[[job]][[name]]
      expect_identical(as_texts(actual), read_texts(job, name), label = paste(job, name))
      expect_identical(lapply(actual, typeof), lapply(read_table(job, name), typeof))
    }
  }
  expect_type(res$steps$step, "integer")
  expect_true(is.na(res$steps$stability_ari[1]))
  expect_true(anyNA(runs$unbalanced$membership$step_1))  # a location left out
  expect_identical(nrow(res$sweep), 0L)
  expect_identical(names(res$sweep), names(runs$wheat$sweep))
})

test_that("the classification is the program's, and its trees cut into the run's groups", {
  cls <- readChar(fixture("wheat.CLS"), file.size(fixture("wheat.CLS")), useBytes = TRUE)
  expect_identical(cl$job$cls, cls)
  for (k in seq_along(cl$steps)) {
    step <- cl$steps[[k]]
    members <- res$groups[res$groups$step == k & res$groups$role == "retained", ]
    cut <- stats::cutree(step$hclust, k = res$steps$groups[k])
    run <- stats::setNames(members$group, members$location_name)[names(cut)]
    # The same partition: each tree group is exactly one run group.
    expect_equal(sum(table(cut, run) > 0), length(unique(cut)))
    expect_equal(length(unique(run)), length(unique(cut)))
    expect_setequal(c(step$retained, step$eliminated, step$left_out), cl$locations)
  }
})

test_that("for complete data the trees are hclust(dist(M), \"ward.D2\")", {
  expect_warning(complete <- locseq_classify(wheat, proximity = "complete"),
                 "^data.SEQ: warning: the sequence ends at step 4 .*min_share = 0.65 .*groups = 4")
  for (step in complete$steps) {
    if (is.null(step$hclust)) next
    years <- complete$years[complete$IYS:step$year]
    cells <- lapply(years, function(y) {
      d <- wheat[wheat$year == y & !is.na(wheat$yield), ]
      if (!nrow(d)) return(NULL)
      d$centred <- d$yield - stats::ave(d$yield, d$location)
      m <- tapply(d$centred, list(d$location, d$genotype), identity)[step$retained, , drop = FALSE]
      m[, colSums(is.na(m)) == 0, drop = FALSE]
    })
    M <- do.call(cbind, cells)
    expected <- stats::hclust(stats::dist(M), "ward.D2")
    expect_identical(step$hclust$merge, expected$merge)
    expect_equal(step$hclust$height, expected$height, tolerance = 1e-5)
  }
})

test_that("a malformed data frame is an error naming its column and row", {
  bad_value <- wheat
  bad_value$yield <- as.character(bad_value$yield)
  bad_value$yield[7] <- "7.5t"
  comma <- bad_value
  comma$yield[7] <- "7,5"
  line_end <- wheat
  line_end$genotype[3] <- "A\nB"
  no_name <- wheat
  no_name$location[12] <- NA
  cases <- list(
    list(wheat[, -4], "^data: no value column: the columns are .*named with value = \"COLUMN\"$"),
    list(bad_value, "^data: row 7: the value '7.5t' \\(column 4 'yield'\\) is not a number$"),
    list(rbind(wheat, wheat[10, ]),
         "^data: row 1561: .*values in rows 10 and 1561; use replicates = \"mean\""),
    list(comma, "^data: row 7: the value '7,5' .* decimal comma.* make the column numbers first$"),
    list(line_end, "^data: row 3: the field of column 'genotype' holds a line end$"),
    list(no_name, "^data: row 12: the location is empty \\(column 2 'location'\\)$"),
    list(wheat[0, ], "^data: the table has no rows below its header$"))
  for (case in cases) expect_error(locseq_classify(case[[1]]), case[[2]])
  expect_error(locseq_classify(wheat, min_cells = 0), "^min-cells: |^--min-cells: |min")
  expect_error(locseq_run(wheat, cl, groups = 21), "^groups: ")
  expect_error(locseq_run(wheat[wheat$location != "COBAR", ], cl),
               "the location 'COBAR' of the classification has no rows in the data")
  expect_s3_class(locseq_classify(rbind(wheat, wheat[10, ]), replicates = "mean"),
                  "locseq_classification")
})

test_that("locations are matched by name, whatever the order of the rows", {
  shuffled <- wheat[order(-match(wheat$location, unique(wheat$location)), wheat$year), ]
  again <- locseq_run(shuffled, cl)
  expect_equal(again$steps, res$steps, tolerance = 1e-6)
  expect_identical(again$groups[, c("step", "group", "location_name")],
                   res$groups[, c("step", "group", "location_name")])
  # The genotypes are the data's own: fewer, or more, than classified.
  for (data in list(wheat[wheat$genotype != "AMBER", ],
                    rbind(wheat, data.frame(year = 2019L, location = "BEGA", genotype = "NEW",
                                            yield = 5)))) {
    expect_identical(nrow(locseq_run(data, cl)$steps), nrow(res$steps))
  }
})

test_that("job files round trip, and existing ones are kept", {
  path <- file.path(tempfile(), "wheat")
  dir.create(dirname(path))
  written <- write_locseq_job(cl, wheat, path)
  expect_identical(basename(written),
                   paste0("wheat", c(".CLS", ".NAQ", ".SEQ", ".names.csv", ".settings")))
  expect_error(write_locseq_job(cl, wheat, path), "the file exists")
  job <- read_locseq_job(path)
  kept <- wheat[!is.na(wheat$yield), ]
  key <- function(d) order(d$year, d$location, d$genotype)
  expect_identical(job$data[key(job$data), 1:3], kept[key(kept), 1:3], ignore_attr = TRUE)
  expect_equal(job$data$value[key(job$data)], kept$yield[key(kept)], tolerance = 1e-6)
  expect_identical(job$classification$job$cls, cl$job$cls)
  # The genotypes are numbered anew (by first appearance), so sums run in
  # another order: the same values to rounding.
  expect_identical(job$classification$level, 5L)  # from wheat.settings
  expect_equal(locseq_run(job$data, job$classification)$steps, res$steps, tolerance = 1e-12)
})

test_that("a job the program made is read with its level, and runs to the same tables", {
  job <- read_locseq_job(fixture("wheat"))
  expect_identical(job$classification$level, 5L)
  expect_identical(lapply(job$classification$steps, `[[`, "retained"),
                   lapply(cl$steps, `[[`, "retained"))
  expect_equal(locseq_run(job$data, job$classification)$groups, res$groups)
})

test_that("a damaged job is an error naming its file and line; an odd one warns", {
  # The fixture's job with line `n` of its file `ext` replaced by `line`.
  damaged <- function(ext, n, line) {
    dir <- tempfile()
    dir.create(dir)
    files <- list.files(fixture(), pattern = "^wheat\\.", full.names = TRUE)
    file.copy(files, dir)
    path <- file.path(dir, paste0("wheat.", ext))
    lines <- readLines(path)
    lines[n] <- line
    writeLines(lines, path)
    file.path(dir, "wheat")
  }
  errors <- list(
    list("SEQ", 3, "1 1 x 4.0", "wheat\\.SEQ:3: expected an integer in the genotype"),
    list("CLS", 1, "6 20", "wheat\\.CLS:2: expected an integer in the run parameters"),
    list("settings", 7, "groups = many", "wheat\\.settings:10: groups is given twice"))
  for (e in errors) expect_error(read_locseq_job(damaged(e[[1]], e[[2]], e[[3]])), e[[4]])
  expect_error(read_locseq_job(file.path(tempdir(), "none")), "none\\.CLS: cannot open the file")
  expect_warning(read_locseq_job(damaged("SEQ", 3, "1 1 3 4.0 5")),
                 "wheat\\.SEQ:3: warning: more than four numbers on the line")
})

test_that("a classification on standardised data is run standardised by default", {
  std <- locseq_classify(wheat, standardized = TRUE)
  expect_identical(locseq_run(wheat, std)$steps, locseq_run(wheat, std, standardize = TRUE)$steps)
  expect_false(identical(locseq_run(wheat, std, standardize = FALSE)$steps$rss_classified,
                         locseq_run(wheat, std)$steps$rss_classified))
})

test_that("two spellings of one name warn with their rows, or are one name", {
  spelled <- wheat
  spelled$location[20] <- tolower(spelled$location[20])
  expect_warning(locseq_classify(spelled),
                 paste0("^data: row 20: warning: the location names 'BEGA' \\(row 14\\) and ",
                        "'bega' \\(row 20\\) differ only in letter case.*fold_names = TRUE"))
  expect_identical(locseq_classify(spelled, fold_names = TRUE, title = cl$title)$job$cls,
                   cl$job$cls)
})

test_that("replicates averaged give the classification of the single values", {
  twice <- rbind(wheat, wheat[10, ])
  expect_identical(locseq_classify(twice, replicates = "mean", title = cl$title)$job$cls,
                   cl$job$cls)
})

test_that("bad arguments are errors that say what is expected", {
  cases <- list(
    list(quote(locseq_classify(wheat, groups = 0)), "'groups' must be a whole number of at least 1"),
    list(quote(locseq_classify(wheat, min_cells = 2.5)), "'min_cells' must be a whole number"),
    list(quote(locseq_classify(wheat, proximity = "full")), "'arg' should be one of"),
    list(quote(locseq_classify(wheat, year = 2)), "'year' must be one string or NULL"),
    list(quote(locseq_classify(wheat, min_share = 1.5)), "min"),
    list(quote(locseq_classify(as.list(wheat))), "'data' must be a data frame"),
    list(quote(locseq_run(wheat, list())), "'classification' must be a locseq_classification"),
    list(quote(locseq_run(wheat, cl, standardize = NA)), "'standardize' must be TRUE or FALSE"),
    list(quote(locseq_run(wheat, cl, sweep = 0:3)), "'sweep' must be whole numbers of at least 1"),
    list(quote(locseq_report(cl, tempfile())), "'result' must be a locseq_result"))
  for (case in cases) expect_error(eval(case[[1]]), case[[2]])
})

test_that("the page, the print, summary and plot methods", {
  page <- tempfile(fileext = ".html")
  locseq_report(res, page)
  expect_error(locseq_report(res, page, overwrite = FALSE), "the file exists")
  html <- readLines(page, warn = FALSE, encoding = "UTF-8")
  expect_true(any(grepl("<html", html, fixed = TRUE)))
  expect_output(print(cl), "6 steps, data years 2019 to 2024, cut into 5 groups")
  expect_output(print(summary(res)), "best fit adjusted for the number of groups: step 1")
  grDevices::pdf(NULL)
  on.exit(grDevices::dev.off())
  expect_silent(plot(res))
  expect_silent(plot(cl$steps[[1]]$hclust))
})
