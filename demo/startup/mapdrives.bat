@echo off
rem Maps the family photo share at logon.
net use P: \\nas\photos
