SELECT N'O''Brien', [order] FROM t -- note
