x := 5 && set x
IF a == 1 .AND. !lDone
ENDIF
IF nTotal != 0 // check
ENDIF
IF x
ELSEIF x > 1
ELSE
ENDIF
ENDIF
WHILE .NOT. EOF()
ENDDO
DO CASE
CASE n = 1
CASE n = 2
OTHERWISE
ENDCASE
PRIVATE a, b
SKIP -1
GO TOP
GOTO 10
SEEK cKey
REPLACE name WITH cName
CLOSE DATABASES
close databases
@ 10,5 SAY x
SET DELETED ON
PACK
/* note */
x = 1 + ;
  2

nCount++
x = i++ + j++
nTotal += nAmount
nTotal -= 1
nTotal += (a + b)
nTotal += a * 2
left = count + 1
x = Left(s, 2)
IF "a" $ cStr
ENDIF
PROCEDURE Foo
WHILE x
LOOP
ENDDO
RETURN
FUNCTION Total(a)
SELECT 2
SKIP
RETURN a + 1
FUNCTION Later
x := a(local) + local b
x := GOTO(x) + GOTO 5
RETURN ;
HPDF_X > 1
/* a
delete these */ x := 1 /* more
