-- Sample configuration of a station with 8 ports. Load into the customer
-- database after customer.sql.
INSERT INTO snPN (partNUM, snNAME, pnDEFAULT, mapPORT, snACTIVE, snVALID, snBARCODE, snEXTENDER, snFORMAT,
                  snLENGTH, autoMEASURE, autoTIME, reqRANDR, snGOOD, snBAD)
VALUES
    ('HN-2040', 'Door harness left', 1, 1, 1, 1, 0, 42, '', 16, 0, 20, 0, '', ''),
    ('HN-2041', 'Door harness right', 0, 2, 1, 1, 0, 17, '', 16, 0, 20, 0, '', ''),
    ('RB-7000-X', 'Relay board 7000', 0, 3, 1, 1, 1, 0, 'RB-####$', 8, 1, 30, 1, 'RB-1234A', 'RB-9876Z'),
    ('CX 315', 'Coax jumper 315', 0, 4, 1, 1, 0, 1200, '', 15, 0, 20, 0, '', ''),
    ('GND-STRAP-9', 'Ground strap', 0, 5, 0, 1, 0, 0, '', 20, 0, 20, 0, '', '');

-- Eight ports per map; each map gets its own limits and speeds.
INSERT INTO portCONFIG (mapPORT, mapNUM, portNAME, UOM, unitSCALE, acTIVE, `Range`, minSPEC, maxSPEC, numAVG,
                        mspeed, timeDELAY, ssON, ssTOL, ssMAXT, ssREQD)
SELECT m.seq, p.seq, CONCAT('PORT ', p.seq), 1,
       CASE m.seq WHEN 3 THEN 3 WHEN 4 THEN 1 ELSE 2 END,
       IF(p.seq <= 6 OR m.seq = 3, 1, 0),
       CASE m.seq WHEN 3 THEN 4 ELSE 1 END,
       CASE m.seq WHEN 3 THEN 1500 * p.seq WHEN 4 THEN 0.0015 * p.seq ELSE 0.5 * p.seq END,
       CASE m.seq WHEN 3 THEN 2500 * p.seq WHEN 4 THEN 0.0040 * p.seq ELSE 1.5 * p.seq END,
       2 + (p.seq MOD 3), 1 + (p.seq MOD 3), 0.25 * (p.seq MOD 4), 1, 0.05, 2 + (p.seq MOD 5), IF(m.seq = 3, 1, 0)
FROM seq_1_to_5 AS m CROSS JOIN seq_1_to_8 AS p
ORDER BY m.seq, p.seq;
