-- Central account database. Load into the database named tARV:
--   CREATE DATABASE tARV; then run this file with tARV as the current database.
-- Column types follow what the program reads: whole numbers as 16-bit values,
-- the minimum version as a single-precision number, texts as short VARCHARs.

CREATE TABLE Customers (
    id                INT AUTO_INCREMENT PRIMARY KEY,
    Operator_Code     VARCHAR(16)  NOT NULL,
    Operator_Initials VARCHAR(16)  NOT NULL DEFAULT '',
    Company           VARCHAR(64)  NOT NULL DEFAULT '',
    tARV              SMALLINT     NOT NULL DEFAULT 0,
    numPORTS          SMALLINT     NOT NULL DEFAULT 8,
    ipPORT            VARCHAR(64)  NOT NULL DEFAULT '',
    runMODE           SMALLINT     NOT NULL DEFAULT 0,
    custDB            VARCHAR(64)  NOT NULL DEFAULT '',
    custUSER          VARCHAR(64)  NOT NULL DEFAULT '',
    custUSER_PW       VARCHAR(64)  NOT NULL DEFAULT '',
    configTABLE       VARCHAR(64)  NOT NULL DEFAULT 'portCONFIG',
    snTABLE           VARCHAR(64)  NOT NULL DEFAULT 'snPN',
    outputTABLE       VARCHAR(64)  NOT NULL DEFAULT '',
    overallTABLE      VARCHAR(64)  NOT NULL DEFAULT '',
    imageTABLE        VARCHAR(64)  NOT NULL DEFAULT '',
    ver_min2          FLOAT        NOT NULL DEFAULT 1.0,
    KEY by_code (Operator_Code)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- One row per sign-in attempt; the program only appends.
CREATE TABLE CustLogin (
    id            INT AUTO_INCREMENT PRIMARY KEY,
    logged_at     TIMESTAMP    NOT NULL DEFAULT CURRENT_TIMESTAMP,
    Login         SMALLINT     NOT NULL,
    User_Code     VARCHAR(16)  NOT NULL,
    Company_Name  VARCHAR(64)  NOT NULL,
    proGRAM       VARCHAR(16)  NOT NULL,
    Operator_Name VARCHAR(16)  NOT NULL,
    MAC_ID        VARCHAR(200) NOT NULL,
    progVER       VARCHAR(50)  NOT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
