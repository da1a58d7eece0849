#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A real CUPS print queue for the printing tests: "start" makes sure a scheduler is running and adds
# a queue that writes each job as a PDF file; "stop" removes the queue again and ends the scheduler
# if "start" was the one to start it. Both may be run any number of times. Needs root, cups,
# printer-driver-cups-pdf (for the Generic PDF driver) and poppler-utils.
#
#   print_queue.sh start|stop [queue] [output.pdf]
#
# When cupsd or lpadmin is missing, "start" does nothing and the tests skip.

set -u
action=${1:-}
queue=${2:-KELVANEBOXVENT}
output=${3:-/tmp/kelvane-boxvent-print.pdf}
state=/tmp/kelvane-print-queue.$queue
ppd=lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd
PATH=$PATH:/usr/sbin:/sbin
# The queue is always set up on the local scheduler, whatever the caller's environment says.
unset CUPS_SERVER

scheduler_up() { lpstat -r 2>/dev/null | grep -q "is running"; }

case $action in
start)
    if ! command -v cupsd >/dev/null 2>&1 || ! command -v lpadmin >/dev/null 2>&1; then
        echo "print_queue.sh: cupsd or lpadmin not installed; printing tests will skip"
        exit 0
    fi
    if [ "$(id -u)" != 0 ]; then
        echo "print_queue.sh: not root; printing tests will skip"
        exit 0
    fi
    # The queue's file: device is refused unless the scheduler allows file devices.
    conf=/etc/cups/cups-files.conf
    if ! grep -qi '^[[:space:]]*FileDevice[[:space:]]\+Yes' "$conf" 2>/dev/null; then
        sed -i '/^[[:space:]]*FileDevice/Id' "$conf" 2>/dev/null
        echo "FileDevice Yes" >>"$conf"
        if scheduler_up && [ -f "$state.cupsd-pid" ]; then
            kill "$(cat "$state.cupsd-pid")" 2>/dev/null
            rm -f "$state.cupsd-pid"
            sleep 1
        fi
    fi
    if ! scheduler_up; then
        mkdir -p /run/cups
        /usr/sbin/cupsd -f >/dev/null 2>&1 &
        echo $! >"$state.cupsd-pid"
        i=0
        until scheduler_up; do
            i=$((i + 1))
            if [ $i -gt 100 ]; then
                echo "print_queue.sh: the CUPS scheduler did not start"
                exit 1
            fi
            sleep 0.2
        done
    fi
    lpadmin -x "$queue" 2>/dev/null
    rm -f "$output"
    lpadmin -p "$queue" -v "file://$output" -m "$ppd" -E || exit 1
    echo "print_queue.sh: queue $queue writes $output"
    ;;
stop)
    if command -v lpadmin >/dev/null 2>&1 && scheduler_up; then
        cancel -a "$queue" 2>/dev/null
        lpadmin -x "$queue" 2>/dev/null
    fi
    if [ -f "$state.cupsd-pid" ]; then
        kill "$(cat "$state.cupsd-pid")" 2>/dev/null
        rm -f "$state.cupsd-pid"
    fi
    rm -f "$output"
    ;;
*)
    echo "usage: print_queue.sh start|stop [queue] [output.pdf]" >&2
    exit 2
    ;;
esac
exit 0
