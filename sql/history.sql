-- The change history of a customer's configuration: who changed which stored
-- value of a part number or of one of its ports, when, and from what to what.
-- Create it in the customer's database, next to zSQL. The program looks for it
-- once per sign-in; where it does not exist, nothing is recorded.
--
-- Accepted by MySQL 5.5 and later and MariaDB 10.x. InnoDB is the site's choice:
-- with it a save and its history rows are stored together or not at all. The
-- table works on MyISAM too (ENGINE=MyISAM); the rows are then written right
-- after the change they record.
--
-- Numbers are written as the shortest decimal text that reads back to the
-- stored value (12345.6, 3000, 0.05); texts as stored; NULL where there is none.

CREATE TABLE zHISTORY (
    id                INT AUTO_INCREMENT PRIMARY KEY,
    changedAT         DATETIME     NOT NULL,  -- the server's time of the change
    Operator_Code     VARCHAR(64)  NOT NULL,  -- the signed-in account
    Operator_Initials VARCHAR(64)  NOT NULL,
    Company           VARCHAR(255) NOT NULL,
    action            VARCHAR(8)   NOT NULL,  -- UPDATE, CREATE, DELETE or RENAME
    partNUM           VARCHAR(191) NOT NULL,  -- after the action; before it for a DELETE
    mapNUM            SMALLINT     NOT NULL,  -- the port 1-49; 0 for a value of the part number's record
    field             VARCHAR(64)  NULL,      -- the column changed; NULL for CREATE and DELETE
    oldVALUE          TEXT         NULL,
    newVALUE          TEXT         NULL,
    KEY by_part (partNUM, id)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- The changes of one part number, newest first (as the program's history window shows them):
--   SELECT changedAT, Operator_Initials, action, mapNUM, field, oldVALUE, newVALUE
--   FROM zHISTORY WHERE partNUM = 'RB-7000-X' ORDER BY id DESC LIMIT 500;
