#!/usr/bin/env python3
"""Writes the long table of a made-up trial with many years and long names,
for the page's layout check:

    long_job.py OUT.csv

24 seasons named like "2001-02", 30 locations with names of up to 60
characters, 12 genotypes. The locations fall into four kinds, each with its
own genotype effects; two locations change kind halfway, and now and then a
location misses most of a season, so that later steps eliminate it. The
same file every time (a fixed seed).
"""

import random
import sys

SEASONS = [f"{2000 + k}-{(k + 1) % 100:02d}" for k in range(1, 25)]
PLACES = ["Wagga Wagga", "Narrabri", "Horsham", "Roseworthy", "Merredin", "Toowoomba",
          "Longerenong", "Kybybolite", "Wongan Hills", "Hermitage"]
KINDS = ["Agricultural Research Institute, north block", "Field Station (irrigated)",
         "Dryland Trial Site", "Experimental Farm, lower paddock"]


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    rng = random.Random(18)
    locations = [f"{PLACES[k % len(PLACES)]} {KINDS[k % len(KINDS)]} {k + 1}" for k in range(30)]
    genotypes = [f"G{g + 1:02d}" for g in range(12)]
    effects = [[rng.gauss(0, 1) for _ in genotypes] for _ in range(4)]
    kind = [k % 4 for k in range(len(locations))]
    with open(sys.argv[1], "w", encoding="utf-8") as out:
        out.write("season,site,variety,yield\n")
        for s, season in enumerate(SEASONS):
            if s == 12:
                kind[3], kind[6] = kind[6], kind[3]
            for l, location in enumerate(locations):
                sparse = rng.random() < 0.01
                for g, genotype in enumerate(genotypes):
                    if sparse and g % 3:
                        continue
                    value = 5 + 0.8 * effects[kind[l]][g] + rng.gauss(0, 0.5) + 0.3 * l / 30
                    out.write(f'{season},"{location}",{genotype},{value:.3f}\n')
    return 0


if __name__ == "__main__":
    sys.exit(main())
