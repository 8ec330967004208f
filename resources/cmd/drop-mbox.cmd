@echo off
rem TAVI-1: drop session logs on this file. Every message of them goes,
rem in standard mail form, into one mbox file beside the first log, named
rem after it (mail0412.mbox; mail0412-2.mbox and so on when that name is
rem taken, as tavconv --mbox never replaces a file). Mail programs import
rem mbox files. Keep this file beside tavconv.exe.
setlocal
if "%~1"=="" goto usage
set "mbox=%~dpn1.mbox"
set n=1

:next
if not exist "%mbox%" goto convert
set /a n+=1
set "mbox=%~dpn1-%n%.mbox"
goto next

:convert
"%~dp0tavconv.exe" --mbox "%mbox%" %*
set status=%errorlevel%
goto done

:usage
echo Drop log files on drop-mbox.cmd to convert them.
set status=2

:done
pause
exit /b %status%
