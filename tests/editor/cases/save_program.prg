FUNCTION Main
   DO Work
PROCEDURE Work
   PRIVATE nA
   Public nB
   ? nA
PROCEDURE Other
   RETURN
