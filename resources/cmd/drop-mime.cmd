@echo off
rem TAVI-1: drop session logs on this file. Beside each log a folder of
rem .eml files in standard mail form is made, as tavconv --mime makes it
rem (UTF-8, readable by today's mail programs). Keep this file beside
rem tavconv.exe. The folders are named by the first 3 characters of each
rem log's name; for another number add --dir-name-len N after --mime.
setlocal
if "%~1"=="" goto usage
"%~dp0tavconv.exe" --mime %*
set status=%errorlevel%
goto done

:usage
echo Drop log files on drop-mime.cmd to convert them.
set status=2

:done
pause
exit /b %status%
