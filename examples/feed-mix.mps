* Cheapest 1000 kg batch of laying-hen feed from six ingredients.
*
* Columns are kilograms of each ingredient, costs are per kilogram.
* The batch weighs exactly 1000 kg (E row BATCH); it holds at least 170 kg of
* protein and 11,500 MJ of energy (G rows), at most 45 kg of fibre (L row),
* and between 33 and 40 kg of calcium (G row CALCIUM with a range of 7).
* Stock limits barley, fish meal and oil (UP bounds); the mill uses at least
* 200 kg of corn (LO bound).
*
* Optimum: cost 262.0001672, from about 441.1 kg corn, 231.3 kg barley,
* 243.3 kg soybean meal and 84.3 kg limestone (no fish meal, no oil); the
* protein, energy and calcium minimums bind, fibre stays at 39.6 kg.
NAME          FEEDMIX
ROWS
 N  COST
 E  BATCH
 G  PROTEIN
 G  ENERGY
 L  FIBRE
 G  CALCIUM
COLUMNS
    CORN      COST               .22   BATCH               1.
    CORN      PROTEIN           .085   ENERGY             14.
    CORN      FIBRE             .025   CALCIUM          .0003
    BARLEY    COST               .19   BATCH               1.
    BARLEY    PROTEIN            .11   ENERGY            12.5
    BARLEY    FIBRE              .05   CALCIUM          .0005
    SOYMEAL   COST               .48   BATCH               1.
    SOYMEAL   PROTEIN            .44   ENERGY             10.
    SOYMEAL   FIBRE              .07   CALCIUM           .003
    FISHMEAL  COST               .95   BATCH               1.
    FISHMEAL  PROTEIN            .62   ENERGY             12.
    FISHMEAL  FIBRE              .01   CALCIUM            .05
    LIMESTON  COST               .05   BATCH               1.
    LIMESTON  CALCIUM            .38
    OIL       COST               1.1   BATCH               1.
    OIL       ENERGY             34.
RHS
    RHS       BATCH             1000   PROTEIN            170
    RHS       ENERGY           11500   FIBRE               45
    RHS       CALCIUM             33
RANGES
    RNG       CALCIUM              7
BOUNDS
 UP BND       BARLEY             400
 UP BND       FISHMEAL            50
 UP BND       OIL                 30
 LO BND       CORN               200
ENDATA
