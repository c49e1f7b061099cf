-- Sample operator accounts for the demo. Load into tARV after central.sql;
-- the demo script then points ipPORT at its private server.
INSERT INTO Customers (Operator_Code, Operator_Initials, Company, tARV, numPORTS, ipPORT, runMODE, custDB,
                       custUSER, custUSER_PW, configTABLE, snTABLE, outputTABLE, overallTABLE, imageTABLE, ver_min2)
VALUES
    ('DEMO1', 'JD', 'Northfield Harness Works', 1, 8, '127.0.0.1', 0, 'custdb',
     'station_editor', 'demo-editor-pw', 'portCONFIG', 'snPN', 'outDATA', 'overallDATA', 'imgDATA', 1.0),
    ('GUEST1', 'GU', 'Northfield Harness Works', 0, 8, '127.0.0.1', 0, 'custdb',
     'station_editor', 'demo-editor-pw', 'portCONFIG', 'snPN', 'outDATA', 'overallDATA', 'imgDATA', 1.0),
    ('OLD1', 'OV', 'Northfield Harness Works', 1, 8, '127.0.0.1', 0, 'custdb',
     'station_editor', 'demo-editor-pw', 'portCONFIG', 'snPN', 'outDATA', 'overallDATA', 'imgDATA', 1.3);
