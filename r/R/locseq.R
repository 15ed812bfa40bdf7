# The R side of the package: arguments checked, a data frame handed to the
# compiled analysis as text columns, and its results made into R objects.
# Every job runs in memory; the compiled code gives back texts, numbers and
# data frames, and warnings as texts, which are raised here.

locseq_version <- function() version_()

# --- Arguments ---------------------------------------------------------------

fail <- function(...) stop(sprintf(...), call. = FALSE)

one_string <- function(x, what, null = TRUE) {
  if (is.null(x) && null) return(character())
  if (!is.character(x) || length(x) != 1L || is.na(x))
    fail("'%s' must be one string%s", what, if (null) " or NULL" else "")
  x
}

one_number <- function(x, what, whole = FALSE, least = -Inf) {
  if (!is.numeric(x) || length(x) != 1L || is.na(x) || x < least ||
      (whole && (x != round(x) || x > .Machine$integer.max)))
    fail("'%s' must be a %snumber%s", what, if (whole) "whole " else "",
         if (is.finite(least)) sprintf(" of at least %s", least) else "")
  x
}

one_flag <- function(x, what) {
  if (!isTRUE(x) && !isFALSE(x)) fail("'%s' must be TRUE or FALSE", what)
  x
}

raise <- function(warnings) for (w in warnings) warning(w, call. = FALSE)

# A column as the text of a table: numbers in a text that reads back to the
# same double (15 significant digits when they do, else 17), NA as NA.
column_text <- function(x) {
  if (is.factor(x)) return(as.character(x))
  if (!is.double(x)) return(as.character(x))
  text <- as.character(x)
  off <- which(!is.na(x) & is.finite(x) & as.numeric(text) != x)
  text[off] <- sprintf("%.17g", x[off])
  text
}

# The job's texts made from a data frame by the import, with the settings
# of a classification: list(naq, seq, names, notes, years, locations,
# genotypes). `order`, when given, numbers the locations in that order.
import_frame <- function(data, settings, order = character()) {
  if (!is.data.frame(data)) fail("'data' must be a data frame")
  if (ncol(data) == 0L) fail("data: the data frame has no columns")
  columns <- lapply(data, column_text)
  as_name <- function(x) if (length(x)) x else ""
  import_frame_(columns, names(data), as_name(settings$year), as_name(settings$location),
                as_name(settings$genotype), as_name(settings$value),
                settings$replicates == "mean", settings$rename, isTRUE(settings$fold_names),
                "data", order)
}

# The job of `data` judged by `classification`: the data's locations and
# years must be those of the classification; they are matched by name.
job_for <- function(data, classification) {
  if (!inherits(classification, "locseq_classification"))
    fail("'classification' must be a locseq_classification (from locseq_classify or read_locseq_job)")
  cl_locations <- classification$locations
  job <- import_frame(data, classification$settings)
  if (!identical(job$locations, cl_locations) && setequal(job$locations, cl_locations))
    job <- import_frame(data, classification$settings, cl_locations)
  for (kind in c("locations", "years")) {
    have <- job[[kind]]
    want <- classification[[kind]]
    what <- sub("s$", "", kind)
    missing <- setdiff(want, have)
    if (length(missing))
      fail("data: the %s '%s' of the classification has no rows in the data", what, missing[1])
    extra <- setdiff(have, want)
    if (length(extra))
      fail("data: the %s '%s' of the data is not in the classification", what, extra[1])
  }
  raise(job$warnings)
  cls <- classification$job$cls
  if (length(job$genotypes) != classification$sizes[3]) {
    # The head of .CLS holds the trial's sizes: the genotypes are the data's.
    head <- classification$sizes
    head[3] <- length(job$genotypes)
    cls <- sub("^[^\n]*", paste(c(head, classification$IYS, classification$IYF), collapse = " "), cls)
  }
  job$cls <- cls
  job$name <- if (is.null(classification$name)) "data" else classification$name
  job
}

# --- Classification ------------------------------------------------------------

# A step's fusions as an hclust object: items 1 to n the retained locations
# in number order, n + r the r-th fusion; heights sqrt(2 D(ij)), the scale of
# hclust(dist(M), "ward.D2").
as_hclust <- function(gi, gj, level, labels) {
  n <- length(labels)
  if (n < 2L) return(NULL)
  side <- function(l) ifelse(l <= n, -l, l - n)
  merge <- cbind(side(gi), side(gj))
  storage.mode(merge) <- "integer"
  # The leaves in the order a plot draws them, by a walk from the root.
  order <- integer()
  stack <- nrow(merge)
  while (length(stack)) {
    k <- stack[1L]
    stack <- stack[-1L]
    if (k < 0) order <- c(order, -k) else stack <- c(merge[k, 1L], merge[k, 2L], stack)
  }
  structure(list(merge = merge, height = sqrt(2 * level), order = as.integer(order),
                 labels = labels, method = "ward.D2", call = NULL,
                 dist.method = "euclidean"),
            class = "hclust")
}

# A classification object from the .CLS text and the names of its trial;
# `fusions`, when given, replaces the levels as written by the full ones.
classification_of <- function(cls, names, settings, level, notes = character(),
                              fusions = NULL) {
  read <- read_cls_(cls, "data")
  years <- names$years
  locations <- names$locations
  steps <- vector("list", length(read$steps))
  for (k in seq_along(read$steps)) {
    s <- read$steps[[k]]
    f <- if (is.null(fusions)) s else fusions[[k]]
    retained <- locations[s$entries == 1L]
    steps[[k]] <- list(step = k, year = s$year, year_name = years[s$year],
                       retained = retained, eliminated = locations[s$entries == 0L],
                       left_out = locations[s$entries == 2L],
                       hclust = as_hclust(f$gi, f$gj, f$level, retained))
  }
  settings$standardized <- substr(read$options, 3, 3) == "S"
  structure(list(steps = steps, level = level, years = years, locations = locations,
                 sizes = read$head[1:3], IYS = read$head[4], IYF = read$head[5],
                 title = sub(" +$", "", read$title), settings = settings, notes = notes,
                 job = list(cls = cls)),
            class = "locseq_classification")
}

locseq_classify <- function(data, year = NULL, location = NULL, genotype = NULL, value = NULL,
                            replicates = c("error", "mean"), groups = NULL,
                            proximity = c("pairwise", "complete"), first_year = NULL,
                            last_year = NULL, min_share = 0.8, min_years = 0.5,
                            min_cells = 10L, standardized = FALSE, title = NULL,
                            rename = FALSE, fold_names = FALSE) {
  settings <- list(year = one_string(year, "year"), location = one_string(location, "location"),
                   genotype = one_string(genotype, "genotype"),
                   value = one_string(value, "value"), replicates = match.arg(replicates),
                   rename = one_flag(rename, "rename"),
                   fold_names = one_flag(fold_names, "fold_names"),
                   proximity = match.arg(proximity),
                   min_share = one_number(min_share, "min_share"),
                   min_years = one_number(min_years, "min_years"),
                   min_cells = one_number(min_cells, "min_cells", whole = TRUE))
  if (!is.null(groups)) one_number(groups, "groups", whole = TRUE, least = 1)
  one_flag(standardized, "standardized")
  year_arg <- function(x, what) {
    if (is.null(x)) return(character())
    if ((!is.character(x) && !is.numeric(x)) || length(x) != 1L || is.na(x))
      fail("'%s' must be a year name or number, or NULL", what)
    as.character(x)
  }
  # The default title starts with the data frame's name, as the program's
  # with the table's.
  name <- if (is.name(substitute(data))) as.character(substitute(data)) else ""
  job <- import_frame(data, settings)
  raise(job$warnings)
  settings$columns <- job$columns
  out <- classify_(job$naq, job$seq, "data", year_arg(first_year, "first_year"),
                   year_arg(last_year, "last_year"), settings$proximity == "complete",
                   settings$min_share, settings$min_years, as.integer(settings$min_cells),
                   standardized, if (is.null(groups)) 0L else as.integer(groups),
                   one_string(title, "title"), name)
  # The options a warning names, as this function's arguments.
  options <- c("--min-share " = "min_share = ", "--min-years " = "min_years = ",
               "--min-cells " = "min_cells = ", "--first-year " = "first_year = ",
               "--last-year " = "last_year = ", "--proximity " = "proximity = ",
               "-g " = "groups = ")
  for (k in seq_along(options))
    out$warnings <- gsub(names(options)[k], options[[k]], out$warnings, fixed = TRUE)
  out$notes <- gsub("--first-year", "first_year", out$notes, fixed = TRUE)
  raise(out$warnings)
  cl <- classification_of(out$cls, job, settings, out$level, c(job$notes, out$notes),
                          out$fusions)
  cl$name <- if (nzchar(name)) name else "data"
  cl
}

print.locseq_classification <- function(x, ...) {
  n <- length(x$steps)
  cat(sprintf("A classification of %d locations: %d step%s, data years %s to %s, cut into %s groups\n",
              length(x$locations), n, if (n == 1L) "" else "s", x$years[x$IYS],
              x$years[x$steps[[n]]$year], if (is.null(x$level)) "square-root rule" else x$level))
  counts <- data.frame(
    step = vapply(x$steps, `[[`, 0L, "step"),
    year = vapply(x$steps, `[[`, "", "year_name"),
    retained = vapply(x$steps, function(s) length(s$retained), 0L),
    eliminated = vapply(x$steps, function(s) length(s$eliminated), 0L),
    left_out = vapply(x$steps, function(s) length(s$left_out), 0L))
  print(counts, row.names = FALSE)
  for (note in x$notes) cat("Note: ", note, "\n", sep = "")
  invisible(x)
}

# --- Run ---------------------------------------------------------------------

run_options_text <- function(groups, standardize, areas, sweep = NULL) {
  text <- if (is.null(groups)) "-g by the square-root rule" else paste("-g", groups)
  if (standardize) text <- paste0(text, ", -s")
  if (length(sweep)) text <- paste0(text, ", --sweep ", sweep[1], ":", sweep[2])
  paste0(text, ", --areas ", areas)
}

run_job <- function(job, settings, page) {
  out <- run_(job$cls, job$naq, job$seq, job$names, "data",
              if (is.null(settings$groups)) 0L else as.integer(settings$groups),
              settings$standardize, settings$areas == "auto", page,
              run_options_text(settings$groups, settings$standardize, settings$areas,
                               settings$sweep),
              job$name, if (length(settings$sweep)) settings$sweep[1] else 0L,
              if (length(settings$sweep)) settings$sweep[2] else 0L)
  raise(out$warnings)
  out
}

locseq_run <- function(data, classification, groups = classification$level,
                       standardize = isTRUE(classification$settings$standardized),
                       sweep = NULL, areas = c("fixed", "auto")) {
  if (!is.null(groups)) one_number(groups, "groups", whole = TRUE, least = 1)
  if (!is.null(sweep)) {
    if (!is.numeric(sweep) || !length(sweep) || anyNA(sweep) || any(sweep < 1) ||
        any(sweep != round(sweep)) || any(sweep > .Machine$integer.max))
      fail("'sweep' must be whole numbers of at least 1 (the levels from the least to the greatest), or NULL")
    sweep <- as.integer(range(sweep))
  }
  settings <- list(groups = groups, standardize = one_flag(standardize, "standardize"),
                   sweep = sweep, areas = match.arg(areas))
  job <- job_for(data, classification)
  out <- run_job(job, settings, page = FALSE)
  structure(c(out$tables, list(settings = settings, job = job)), class = "locseq_result")
}

print.locseq_result <- function(x, ...) {
  s <- x$steps
  cat(sprintf("A run of %d step%s (%s)\n", nrow(s), if (nrow(s) == 1L) "" else "s",
              run_options_text(x$settings$groups, x$settings$standardize, x$settings$areas,
                               x$settings$sweep)))
  print(s[, c("step", "sequence_year_name", "retained", "groups", "rsq_classified",
              "rsq_with_allocated", "adj_rsq_classified")], row.names = FALSE)
  cat("Tables: steps, fit_by_year, groups, distances, membership",
      if (nrow(x$sweep)) ", sweep", "\n", sep = "")
  invisible(x)
}

summary.locseq_result <- function(object, ...) {
  s <- object$steps
  best <- if (all(is.na(s$adj_rsq_classified))) NA_integer_ else
    s$step[which.max(s$adj_rsq_classified)]
  structure(list(steps = nrow(s), best = best,
                 fit = s[, c("step", "sequence_year_name", "rsq_classified",
                             "rsq_with_allocated", "adj_rsq_classified", "stability_ari")]),
            class = "summary.locseq_result")
}

print.summary.locseq_result <- function(x, ...) {
  cat(sprintf("%d step%s; the best fit adjusted for the number of groups: %s\n", x$steps,
              if (x$steps == 1L) "" else "s",
              if (is.na(x$best)) "none" else paste("step", x$best)))
  print(x$fit, row.names = FALSE, digits = 4)
  invisible(x)
}

plot.locseq_result <- function(x, ...) {
  s <- x$steps
  y <- cbind(s$rsq_classified, s$rsq_with_allocated)
  graphics::matplot(s$step, y, type = "b", pch = c(19, 1), lty = c(1, 2), col = c(1, 1),
                    xlab = "Step", ylab = "RSQ", ylim = range(c(0, 1, y), na.rm = TRUE),
                    xaxt = "n", main = "The fit over the sequence", ...)
  graphics::axis(1, at = s$step, labels = paste0(s$step, "\n", s$sequence_year_name),
                 padj = 0.5)
  graphics::legend("bottomleft", c("classified", "with the allocated locations"),
                   pch = c(19, 1), lty = c(1, 2), bty = "n")
  invisible(x)
}

locseq_report <- function(result, file, overwrite = TRUE) {
  if (!inherits(result, "locseq_result")) fail("'result' must be a locseq_result (from locseq_run)")
  one_string(file, "file", null = FALSE)
  one_flag(overwrite, "overwrite")
  if (!overwrite && file.exists(file)) fail("%s: the file exists (overwrite = TRUE replaces it)", file)
  out <- run_job(result$job, result$settings, page = TRUE)
  writeBin(charToRaw(enc2utf8(out$page)), file)
  invisible(file)
}

# --- Job files -----------------------------------------------------------------

job_paths <- function(path) {
  one_string(path, "path", null = FALSE)
  stats::setNames(paste0(path, c(".CLS", ".NAQ", ".SEQ", ".names.csv", ".settings")),
                  c("cls", "naq", "seq", "names", "settings"))
}

read_text <- function(file) {
  size <- file.size(file)
  if (is.na(size)) fail("%s: cannot open the file", file)
  if (size == 0) return("")
  readChar(file, size, useBytes = TRUE)
}

read_locseq_job <- function(path) {
  files <- job_paths(path)
  cls <- read_text(files[["cls"]])
  naq <- read_text(files[["naq"]])
  seq <- read_text(files[["seq"]])
  head <- read_cls_(cls, path)$head
  trial <- read_trial_(naq, seq, path, head[1:3])
  raise(trial$warnings)
  full <- trial$names
  names_text <- if (file.exists(files[["names"]])) read_text(files[["names"]]) else ""
  if (nzchar(names_text)) {
    table <- utils::read.csv(text = names_text, colClasses = "character", check.names = FALSE)
    for (k in 1:3) {
      kind <- c("year", "location", "genotype")[k]
      rows <- table[table$kind == kind, ]
      at <- as.integer(rows$number)
      ok <- at >= 1L & at <= length(full[[k]]) & nzchar(rows$full_name)
      full[[k]][at[ok]] <- rows$full_name[ok]
    }
  }
  years <- full[[1]]
  data <- data.frame(year = years[trial$year], location = full[[2]][trial$location],
                     genotype = full[[3]][trial$genotype], value = trial$value,
                     stringsAsFactors = FALSE)
  if (!anyNA(suppressWarnings(as.integer(years))))
    data$year <- as.integer(data$year)
  settings <- list(year = character(), location = character(), genotype = character(),
                   value = character(), replicates = "error", rename = FALSE,
                   proximity = NA_character_)
  level <- NULL
  standardize <- NA
  if (file.exists(files[["settings"]])) {
    # How the classification was made: the level a run takes, and the rest.
    recorded <- read_settings_(read_text(files[["settings"]]), files[["settings"]])
    raise(recorded$warnings)
    if (!is.na(recorded$groups)) level <- recorded$groups
    standardize <- recorded$standardize
    value <- function(key) recorded$values[match(key, recorded$keys)]
    if (!is.na(value("proximity"))) settings$proximity <- value("proximity")
    if (identical(value("replicates"), "mean")) settings$replicates <- "mean"
    if (identical(value("fold_names"), "yes")) settings$fold_names <- TRUE
    for (key in c("min_share", "min_years", "min_cells"))
      if (!is.na(value(key))) settings[[key]] <- as.numeric(value(key))
  }
  cl <- classification_of(cls, list(years = years, locations = full[[2]]), settings,
                          level = level)
  cl$name <- basename(path)
  if (!is.na(standardize)) cl$settings$standardized <- standardize == 1L
  structure(list(data = data, classification = cl), class = "locseq_job")
}

print.locseq_job <- function(x, ...) {
  d <- x$data
  cat(sprintf("A job of %d observations: %d years, %d locations, %d genotypes\n", nrow(d),
              length(unique(d$year)), length(unique(d$location)), length(unique(d$genotype))))
  print(x$classification)
  invisible(x)
}

write_locseq_job <- function(classification, data, path, overwrite = FALSE) {
  files <- job_paths(path)
  one_flag(overwrite, "overwrite")
  job <- job_for(data, classification)
  if (!overwrite) {
    there <- files[file.exists(files)]
    if (length(there)) fail("%s: the file exists (overwrite = TRUE replaces the job's files)", there[1])
  }
  job$settings <- settings_text(classification, basename(files[["cls"]]))
  for (kind in names(files)) writeBin(charToRaw(job[[kind]]), files[[kind]])
  invisible(unname(files))
}

# The settings file of a classification, as the program writes beside a
# .CLS: what a run takes (groups, standardize) and how it was made.
settings_text <- function(classification, cls) {
  s <- classification$settings
  keys <- values <- comments <- character()
  add <- function(key, value, comment = "") {
    if (length(value) != 1L || is.na(value)) return()
    keys <<- c(keys, key)
    values <<- c(values, as.character(value))
    comments <<- c(comments, comment)
  }
  if (!is.null(classification$level)) add("groups", classification$level)
  add("standardize", if (isTRUE(s$standardized)) "yes" else "no")
  if (!is.na(s$proximity)) {
    add("proximity", s$proximity)
    add("min_share", if (length(s$min_share)) format(s$min_share, digits = 15))
    if (s$proximity == "pairwise") {
      add("min_years", if (length(s$min_years)) format(s$min_years, digits = 15))
      add("min_cells", s$min_cells)
    }
  }
  add("first_year", classification$IYS, classification$years[classification$IYS])
  add("last_year", classification$IYF, classification$years[classification$IYF])
  add("replicates", s$replicates)
  add("rename", if (isTRUE(s$rename)) "yes" else "no")
  add("fold_names", if (isTRUE(s$fold_names)) "yes" else "no")
  column_keys <- c("year_column", "location_column", "genotype_column", "value_column")
  for (k in seq_along(s$columns)) if (nzchar(s$columns[k])) add(column_keys[k], s$columns[k])
  settings_text_(keys, values, comments, cls)
}
