* INVOICE.PRG - monthly invoicing run
* Written for the accounts office
#include "inkey.ch"

PUBLIC gnInvoices

PROCEDURE Main
   PRIVATE cMonth, count
   LOCAL lOk := .T.
   SET DELETED ON
   SET EXACT OFF
   USE customer INDEX custname NEW
   USE invoice NEW
   SELECT customer
   GO TOP
   count := 0
   DO WHILE !EOF()
      IF customer->active .AND. !empty(customer->email)
         DO MakeInvoice WITH customer->id, cMonth
         count++
      ENDIF
      SKIP
   ENDDO
   ? 'Invoices written: ', count
   ? 'Run finished for', ;
     cMonth   && month name
   CLOSE DATABASES
RETURN

/* MakeInvoice writes one invoice
   for the given customer */
PROCEDURE MakeInvoice
   PARAMETERS cId, cMonth
   LOCAL nTotal := 0
   SELECT invoice
   APPEND BLANK
   REPLACE invoice->custid WITH cId
   REPLACE month WITH cMonth
   SELECT orders
   SEEK cId + cMonth
   WHILE orders->custid == cId .AND. .NOT. EOF()
      IF orders->cancelled
         SKIP
         LOOP
      ENDIF
      nTotal += orders->amount
      SKIP
   ENDDO
   SELECT invoice
   REPLACE total WITH nTotal
   gnInvoices++
RETURN

FUNCTION Discount(nAmount, cGroup)
   LOCAL nRate
   DO CASE
   CASE cGroup == 'A'
      nRate := 0.10
   CASE cGroup == 'B' .OR. cGroup == 'C'
      nRate := 0.05
   OTHERWISE
      nRate := 0
   ENDCASE
RETURN (nAmount * nRate)

FUNCTION IsValidId(cId)
   IF empty(cId)
      RETURN .F.
   ENDIF
   IF LEN(alltrim(cId)) != 6
      RETURN .F.
   ENDIF
RETURN .T.

FUNCTION PadLeft(cText, nWidth)
   LOCAL cResult, string
   cResult := SPACE(nWidth - LEN(cText)) + cText  // pad on the left
RETURN cResult

PROCEDURE Purge
   LOCAL nDeleted := 0
   SELECT invoice
   go top
   DO WHILE .NOT. EOF()
      IF invoice->total = 0
         delete
         nDeleted++
      ENDIF
      skip
   ENDDO
   PACK
   ? 'Deleted: ' + str(nDeleted)
RETURN

PROCEDURE Report
   LOCAL nPage := 1, nLine := 0
   SELECT invoice
   INDEX ON custid TO invcust
   GOTO BOTTOM
   @ 1, 0 SAY 'Invoice report'
   GO TOP
   WHILE !EOF()
      IF nLine > 55
         nPage += 1
         nLine := 0
         EJECT
      ENDIF
      IF 'VOID' $ invoice->note
         SKIP
         LOOP
      ENDIF
      ? invoice->custid, PadLeft(str(invoice->total), 12)
      nLine++
      SKIP
   ENDDO
   BEGIN SEQUENCE
      IF nPage > 99
         BREAK
      ENDIF
   END
   ERASE invcust.ntx
RETURN
