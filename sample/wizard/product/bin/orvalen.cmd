@echo off
echo Orvalen 14 (sample product) is installed in %~dp0..
