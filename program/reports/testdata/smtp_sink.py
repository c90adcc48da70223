#!/usr/bin/python3
"""A real SMTP server for the mail sender's tests.

Usage: smtp_sink.py OUTDIR

Listens on 127.0.0.1 on a free port, prints the port on the first line of
standard output, and stores every message it accepts as OUTDIR/N.eml together
with OUTDIR/N.json: what Python's standard mail parser reads from it (headers,
parts, decoded texts, attachment digests, defects). Refuses every recipient at
the domain "refused.invalid" as a server refuses an unknown mailbox. Runs until
it is killed.
"""

import asyncio
import email
import email.policy
import email.utils
import hashlib
import json
import pathlib
import sys

from aiosmtpd.smtp import SMTP


def describe(raw):
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    defects = [type(d).__name__ for d in msg.defects]
    parts = []
    for part in msg.walk():
        defects += [type(d).__name__ for d in part.defects]
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        entry = {
            "content_type": part.get_content_type(),
            "charset": part.get_content_charset(),
            "filename": part.get_filename(),
            "is_attachment": part.is_attachment(),
            "size": len(payload),
            "sha256": hashlib.sha256(payload).hexdigest(),
        }
        if part.get_content_maintype() == "text" and not part.is_attachment():
            entry["text"] = part.get_content().replace("\r\n", "\n")
        parts.append(entry)
    try:
        date = email.utils.parsedate_to_datetime(str(msg["Date"])).isoformat()
    except (TypeError, ValueError):
        date = None
    sender = msg["From"]
    first = sender.addresses[0] if sender is not None and sender.addresses else None
    return {
        "subject": str(msg["Subject"]),
        "from_name": first.display_name if first else None,
        "from_addr": first.addr_spec if first else None,
        "to": [a.addr_spec for a in msg["To"].addresses] if msg["To"] is not None else [],
        "date": date,
        "x_mailer": str(msg["X-Mailer"]),
        "content_type": msg.get_content_type(),
        "is_multipart": msg.is_multipart(),
        "defects": defects,
        "parts": parts,
    }


REFUSED_DOMAIN = "@refused.invalid"


class Sink:
    def __init__(self, out):
        self.out = out
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().endswith(REFUSED_DOMAIN):
            return "550 5.1.1 No such mailbox here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        raw = envelope.original_content
        (self.out / f"{self.count}.eml").write_bytes(raw)
        summary = describe(raw)
        summary.update(helo=session.host_name, mail_from=envelope.mail_from, rcpt_tos=envelope.rcpt_tos)
        (self.out / f"{self.count}.json").write_text(json.dumps(summary, indent=1))
        return "250 Message accepted for delivery"


async def main(out):
    loop = asyncio.get_running_loop()
    handler = Sink(out)
    server = await loop.create_server(lambda: SMTP(handler, hostname="sink.local"), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.Event().wait()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    asyncio.run(main(pathlib.Path(sys.argv[1])))
