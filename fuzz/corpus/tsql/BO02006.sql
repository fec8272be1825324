 Exec Usp_BO_ExpandByComp 'BK-100','zzzzzzzzzzzzzzzzzzzz','','','','','','','','','','','','','','','','','','','','','2026-12-07', 0, 0,1
