# The version of the analysis compiled into the package.
locseq_version <- function() version_()

# Runs a whole job in memory from the texts of its .CLS, .NAQ and .SEQ
# (`job` names them in messages) and gives back its four tables as data
# frames (steps, fit_by_year, groups, distances), with the tables' CSV
# texts, exactly as `locseq run JOB --tables DIR` writes them, in the
# attribute "csv". Bad input is an error with the program's message
# ("JOB.SEQ:12: ..."); each kind of warning met in a file is one R warning.
run_job_texts <- function(cls, naq, seq, job = "JOB", groups = NULL,
                          standardize = FALSE, areas = c("fixed", "auto")) {
  areas <- match.arg(areas)
  for (arg in c("cls", "naq", "seq", "job")) {
    value <- get(arg)
    if (!is.character(value) || length(value) != 1L || is.na(value))
      stop(sprintf("'%s' must be one string", arg), call. = FALSE)
  }
  if (is.null(groups)) {
    groups <- 0L
  } else if (!is.numeric(groups) || length(groups) != 1L || is.na(groups) ||
             groups < 1 || groups != round(groups) || groups > .Machine$integer.max) {
    stop("'groups' must be a whole number of at least 1, or NULL for the square-root rule",
         call. = FALSE)
  }
  if (!isTRUE(standardize) && !isFALSE(standardize))
    stop("'standardize' must be TRUE or FALSE", call. = FALSE)
  out <- run_job_texts_(cls, naq, seq, job, as.integer(groups), standardize,
                        areas == "auto")
  for (w in out$warnings) warning(w, call. = FALSE)
  structure(out$tables, csv = unlist(out$csv))
}
