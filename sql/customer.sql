-- A customer's configuration database. The account row names the tables
-- (snTABLE, configTABLE); these are the names the samples and tests use.
-- The error table is always called zSQL.

-- One row per part number.
CREATE TABLE snPN (
    id          INT AUTO_INCREMENT PRIMARY KEY,
    partNUM     VARCHAR(25) NOT NULL,
    snNAME      VARCHAR(25) NOT NULL DEFAULT '',
    pnDEFAULT   SMALLINT    NOT NULL DEFAULT 0,
    mapPORT     SMALLINT    NOT NULL,
    snACTIVE    SMALLINT    NOT NULL DEFAULT 1,
    snVALID     SMALLINT    NOT NULL DEFAULT 0,
    snBARCODE   SMALLINT    NOT NULL DEFAULT 0,
    snEXTENDER  INT         NOT NULL DEFAULT 0,
    snFORMAT    VARCHAR(35) NOT NULL DEFAULT '',
    snLENGTH    SMALLINT    NOT NULL DEFAULT 0,
    autoMEASURE SMALLINT    NOT NULL DEFAULT 0,
    autoTIME    FLOAT       NOT NULL DEFAULT 20,
    reqRANDR    SMALLINT    NOT NULL DEFAULT 0,
    snGOOD      VARCHAR(35) NOT NULL DEFAULT '',
    snBAD       VARCHAR(35) NOT NULL DEFAULT '',
    KEY by_part (partNUM)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- One row per port of a port map. (mapPORT, mapNUM) is not declared unique:
-- stored data may already hold doubles, which the program tolerates. A new
-- installation may declare it unique (the program does not rely on it):
--   ALTER TABLE portCONFIG DROP KEY by_map, ADD UNIQUE KEY by_map (mapPORT, mapNUM);
CREATE TABLE portCONFIG (
    id        INT AUTO_INCREMENT PRIMARY KEY,
    mapPORT   SMALLINT    NOT NULL,
    mapNUM    SMALLINT    NOT NULL,
    portNAME  VARCHAR(15) NOT NULL DEFAULT '',
    UOM       SMALLINT    NOT NULL DEFAULT 1,
    unitSCALE SMALLINT    NOT NULL DEFAULT 2,
    acTIVE    SMALLINT    NOT NULL DEFAULT 1,
    `Range`   SMALLINT    NOT NULL DEFAULT 0,
    minSPEC   FLOAT       NOT NULL DEFAULT 1,
    maxSPEC   FLOAT       NOT NULL DEFAULT 1000,
    numAVG    SMALLINT    NOT NULL DEFAULT 2,
    mspeed    SMALLINT    NOT NULL DEFAULT 2,
    timeDELAY FLOAT       NOT NULL DEFAULT 0.25,
    ssON      SMALLINT    NOT NULL DEFAULT 1,
    ssTOL     FLOAT       NOT NULL DEFAULT 0.05,
    ssMAXT    FLOAT       NOT NULL DEFAULT 2,
    ssREQD    SMALLINT    NOT NULL DEFAULT 0,
    KEY by_map (mapPORT, mapNUM)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Failures of part-number operations; the program only appends.
CREATE TABLE zSQL (
    id        INT AUTO_INCREMENT PRIMARY KEY,
    logged_at TIMESTAMP    NOT NULL DEFAULT CURRENT_TIMESTAMP,
    Routine   VARCHAR(64)  NOT NULL,
    Summary   VARCHAR(255) NOT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
