// A record as JSON, in one canonical form.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Text;

namespace ContactExporter
{
    /// <summary>
    /// A record in one form that other readers can compare theirs with byte for byte: what
    /// Python's json.dumps(record, ensure_ascii=True, separators=(",", ":")) prints for the
    /// record, its members in the exporter's order.
    /// </summary>
    internal static class CanonicalJson
    {
        public static void Write(Contact contact, StringBuilder json)
        {
            var members = new Members(json);
            members.Text("image", contact.Image);
            members.Text("displayname", contact.DisplayName);
            if (contact.EmailAddresses != null) members.List("emailaddrs", contact.EmailAddresses, Text);
            members.Text("firstname", contact.FirstName);
            members.Text("surname", contact.Surname);
            if (contact.Phones != null) members.List("phones", contact.Phones, Write);
            members.Text("id", contact.Id);
            members.Text("modified", contact.Modified);
            members.End();
        }

        private static void Write(Phone phone, StringBuilder json)
        {
            var members = new Members(json);
            members.Text("type", phone.Type);
            members.Text("number", phone.Number);
            members.End();
        }

        private static void Text(string text, StringBuilder json)
        {
            if (text == null)
            {
                json.Append("null");
                return;
            }
            json.Append('"');
            foreach (char character in text) json.Append(Escaped(character));
            json.Append('"');
        }

        private static string Escaped(char character)
        {
            switch (character)
            {
                case '"': return "\\\"";
                case '\\': return "\\\\";
                case '\b': return "\\b";
                case '\f': return "\\f";
                case '\n': return "\\n";
                case '\r': return "\\r";
                case '\t': return "\\t";
            }
            if (character >= ' ' && character <= '~') return character.ToString();
            return "\\u" + ((int)character).ToString("x4", CultureInfo.InvariantCulture);
        }

        /// <summary>An object's members, in the order written, with their commas; absent ones left out.</summary>
        private sealed class Members
        {
            private readonly StringBuilder json;
            private bool first = true;

            public Members(StringBuilder json)
            {
                this.json = json;
                json.Append('{');
            }

            public void Text(string name, string value)
            {
                if (value == null) return;
                Name(name);
                CanonicalJson.Text(value, json);
            }

            public void List<T>(string name, IEnumerable<T> values, Action<T, StringBuilder> write)
            {
                Name(name);
                json.Append('[');
                bool firstValue = true;
                foreach (T value in values)
                {
                    if (!firstValue) json.Append(',');
                    write(value, json);
                    firstValue = false;
                }
                json.Append(']');
            }

            public void End()
            {
                json.Append('}');
            }

            private void Name(string name)
            {
                json.Append(first ? "" : ",");
                CanonicalJson.Text(name, json);
                json.Append(':');
                first = false;
            }
        }
    }
}
