#!/bin/sh
# Runs one compile or link step with the posix thread model of the same cross compiler.
# GoogleTest needs std::mutex, which the win32 thread model lacks; the shipped programs
# keep the win32 model, so only test programs are built through this launcher.
tool=$1
shift
case "$tool" in
*-win32) tool="${tool%-win32}-posix" ;;
esac
exec "$tool" "$@"
