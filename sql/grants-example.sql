-- Least-privilege accounts, as an example for a site. Replace the hosts,
-- the customer database name and the customer password with the site's own.

-- The central account built into the program: it reads the operator accounts
-- and appends sign-in records, nothing else.
CREATE USER IF NOT EXISTS 'admin_tarv'@'%' IDENTIFIED BY 'kqz4093175862';
GRANT SELECT ON tARV.Customers TO 'admin_tarv'@'%';
GRANT INSERT ON tARV.CustLogin TO 'admin_tarv'@'%';

-- A customer account: edits part numbers and port maps, appends error records.
CREATE USER IF NOT EXISTS 'station_editor'@'%' IDENTIFIED BY 'change-me';
GRANT SELECT, INSERT, UPDATE, DELETE ON custdb.snPN TO 'station_editor'@'%';
GRANT SELECT, INSERT, UPDATE, DELETE ON custdb.portCONFIG TO 'station_editor'@'%';
GRANT INSERT ON custdb.zSQL TO 'station_editor'@'%';
-- The change history (sql/history.sql), where the site keeps one: appended and read.
GRANT INSERT, SELECT ON custdb.zHISTORY TO 'station_editor'@'%';
