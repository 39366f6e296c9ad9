Type=Exe
Form=frmOrders.frm
Name="Orders"
