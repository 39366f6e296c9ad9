FUNCTION Main
   DO Work
   RETURN NIL
PROCEDURE Work
   PRIVATE nCount
   ? "work"
PROCEDURE Other
   RETURN
