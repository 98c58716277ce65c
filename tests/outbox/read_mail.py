# Reads a mail as a mail program would (Python's email module) and prints what it found, as JSON.
import email
import email.policy
import json
import sys

with open(sys.argv[1], "rb") as f:
    raw = f.read()
msg = email.message_from_bytes(raw, policy=email.policy.default)
print(json.dumps({
    "subject": str(msg["subject"]),
    "from": str(msg["from"]),
    "to": str(msg["to"]),
    "reply-to": str(msg["reply-to"]),
    "bcc": msg["bcc"] is not None,
    "message-id": str(msg["message-id"]),
    "date": str(msg["date"]),
    "charset": msg.get_content_charset(),
    "body": msg.get_content(),
    "seven-bit": all(b < 128 for b in raw),
}, ensure_ascii=False))
