# Makes data/wheat.rda from the example's long table (run by
# scripts/r-package.sh with the table and the package folder as arguments).
args <- commandArgs(trailingOnly = TRUE)
wheat <- utils::read.csv(args[1], stringsAsFactors = FALSE,
                         colClasses = c("integer", "character", "character", "numeric"))
dir.create(file.path(args[2], "data"), showWarnings = FALSE)
save(wheat, file = file.path(args[2], "data", "wheat.rda"), compress = "xz", version = 2)
