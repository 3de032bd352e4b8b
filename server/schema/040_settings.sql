-- Settings the server keeps with the account set, one row per setting. A setting without
-- its row (or an account set made before this table) has its default.
--   NegativeStock: 1 (the default) lets an apply leave stock on hand below zero, 0 refuses it.

CREATE TABLE XSysPara (
    Code VARCHAR(30) NOT NULL PRIMARY KEY,
    ParaValue VARCHAR(255)
);
