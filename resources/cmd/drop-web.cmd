@echo off
rem TAVI-1: drop session logs on this file. Their messages go into the web
rem archive in the folder tav-web beside the first log, as tavconv --html
rem writes it; logs dropped later are added to it. The same folder that
rem tav.exe's form "Web archive" writes. Keep this file beside tavconv.exe.
setlocal
if "%~1"=="" goto usage
"%~dp0tavconv.exe" --html "%~dp1tav-web" %*
set status=%errorlevel%
if %status%==0 if exist "%~dp1tav-web\index.html" start "" "%~dp1tav-web\index.html"
goto done

:usage
echo Drop log files on drop-web.cmd to convert them.
set status=2

:done
pause
exit /b %status%
